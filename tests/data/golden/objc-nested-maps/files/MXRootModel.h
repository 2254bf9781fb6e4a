//
//  MXRootModel.h
//
//
//  Created by Lintrel on 2026/12/05.
//  Copyright © 2026年 Morvex 科技有限公司. All rights reserved.
//

#import <Foundation/Foundation.h>
#import "MXA.h"
#import "MXB.h"
#import "MXShop.h"

NS_ASSUME_NONNULL_BEGIN

@interface MXRootModel : NSObject

@property (nonatomic, strong) MXA *a;
@property (nonatomic, copy) NSArray<NSNumber *> *ids;
@property (nonatomic, copy) NSArray<MXB *> *b;
@property (nonatomic, strong) MXShop *shop;

@end

NS_ASSUME_NONNULL_END
