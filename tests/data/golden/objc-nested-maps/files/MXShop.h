//
//  MXShop.h
//
//
//  Created by Lintrel on 2026/12/05.
//  Copyright © 2026年 Morvex 科技有限公司. All rights reserved.
//

#import <Foundation/Foundation.h>
#import "MXItems.h"
#import "MXOwner.h"

NS_ASSUME_NONNULL_BEGIN

@interface MXShop : NSObject

@property (nonatomic, copy) NSArray<MXItems *> *items;
@property (nonatomic, strong) MXOwner *owner;

@end

NS_ASSUME_NONNULL_END
