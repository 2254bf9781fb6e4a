//
//  MXRootModel.h
//
//
//  Created by Lintrel on 2026/12/05.
//  Copyright © 2026年 Morvex 科技有限公司. All rights reserved.
//

#import <Foundation/Foundation.h>
#import "MXAddress.h"
#import "MXOrders.h"

NS_ASSUME_NONNULL_BEGIN

@interface MXRootModel : NSObject

@property (nonatomic, copy) NSString *name;
@property (nonatomic, assign) NSInteger age;
@property (nonatomic, assign) CGFloat score;
@property (nonatomic, assign) BOOL vip;
@property (nonatomic, strong) MXAddress *address;
@property (nonatomic, copy) NSArray<NSString *> *tags;
@property (nonatomic, copy) NSArray<MXOrders *> *orders;

@end

NS_ASSUME_NONNULL_END
